#include "lib/listviews.h"
