// What the measuring program and the bare timer dialog agree on.
#pragma once

#include <windows.h>

// Asks the bare timer dialog how many timer messages it has had; the count is the reply.
constexpr UINT kTickCountQuery = WM_APP + 1;
