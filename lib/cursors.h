#pragma once
// The hourglass around long work. The two calls do not nest: normalcursor
// always restores the default. Both let pending window messages run.

namespace vek {

void busycursor();
void normalcursor();

}  // namespace vek
