#include "tests/unit/CallLog.h"
#include "tests/unit/FakeCaptureFilter.h"

#include "base/FindPin.h"
#include "base/ComPtr.h"

#include <gtest/gtest.h>

namespace {

class FindPinTest : public testing::Test {
protected:
    FindPinTest() {
        filter->AddPin("in A", PINDIR_INPUT);
        filter->AddPin("out X", PINDIR_OUTPUT);
        filter->AddPin("in B", PINDIR_INPUT).directionResult = E_UNEXPECTED;
        filter->AddPin("out Y", PINDIR_OUTPUT);
        filter->AddPin("in C", PINDIR_INPUT);
    }

    // The name of the pin found, "" for none, and whether the status was as expected.
    std::string Find(PIN_DIRECTION direction, int n, HRESULT expected) {
        base::ComPtr<IPin> pin;
        HRESULT hr = FindPin(filter.get(), direction, n, pin.put());
        EXPECT_EQ(hr, expected) << "direction " << direction << ", index " << n;
        for (int i = 0; i < 5; ++i) {
            if (pin.get() == static_cast<IPin*>(&filter->pin(i))) {
                return filter->pin(i).name();
            }
        }
        return pin ? "<unknown pin>" : "";
    }

    CallLog log;
    base::ComPtr<FakeCaptureFilter> filter{new FakeCaptureFilter(log)};
};

TEST_F(FindPinTest, CountsOnlyPinsOfTheDirectionAndSkipsFailedQueries) {
    EXPECT_EQ(Find(PINDIR_INPUT, 0, S_OK), "in A");
    EXPECT_EQ(Find(PINDIR_INPUT, 1, S_OK), "in C");
    EXPECT_EQ(Find(PINDIR_OUTPUT, 0, S_OK), "out X");
    EXPECT_EQ(Find(PINDIR_OUTPUT, 1, S_OK), "out Y");
    EXPECT_EQ(Find(PINDIR_INPUT, 2, E_FAIL), "");
    EXPECT_EQ(Find(PINDIR_OUTPUT, 2, E_FAIL), "");
}

TEST_F(FindPinTest, KeepsOnlyTheReferenceItHandsOut) {
    {
        base::ComPtr<IPin> pin;
        ASSERT_EQ(FindPin(filter.get(), PINDIR_INPUT, 1, pin.put()), S_OK);
        EXPECT_EQ(filter->pin("in C").refs(), 2u);
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(filter->pin(i).refs(), 1u) << filter->pin(i).name();
    }
}

TEST_F(FindPinTest, PassesOnMissingFilterAndEnumerationFailure) {
    IPin* pin = reinterpret_cast<IPin*>(1);
    EXPECT_EQ(FindPin(nullptr, PINDIR_INPUT, 0, &pin), E_POINTER);
    EXPECT_EQ(pin, nullptr);
    filter->enumResult = E_OUTOFMEMORY;
    EXPECT_EQ(Find(PINDIR_INPUT, 0, E_OUTOFMEMORY), "");
}

} // namespace
