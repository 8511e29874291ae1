#pragma once
// The runs' road to a web server folder through the transfer component
// (web/): the index by vek::fetchserverindex, a program by installfromweb.
#include "installer/webroad.h"

namespace installer {

const WebRoad& httpwebroad();

}  // namespace installer
