#include "app/RecorderDialog.h"
#include "resources/resource.h"

void RecorderDialog::ConfigureButtons() {}
