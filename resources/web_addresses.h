#pragma once

// The product's web addresses, defined once for the program and its resources.
#define CORVALE_SITE_TEXT "www.corvale-recorder.com"
#define CORVALE_SITE_URL "https://www.corvale-recorder.com/"
#define CORVALE_PRODUCT_URL "https://www.corvale-recorder.com/recorder/"
#define CORVALE_CONTACT_URL "https://www.corvale-recorder.com/contact/"
