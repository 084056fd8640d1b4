#include "client/core/util/TDataQueryService.h"
