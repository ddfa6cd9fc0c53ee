// Browser helper objects, toolbars and extensions.
#pragma once
#include "foundation/category_record.h"

extern const Category g_IEHelpersCategory;
