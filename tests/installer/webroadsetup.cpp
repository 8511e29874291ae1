// The installer's tests run the whole program's roads: a server folder on a
// web server is reached through the transfer component, as in the program's
// window part.
#include "installer/httpwebroad.h"

#include <gtest/gtest.h>

namespace {

class WebRoadEnvironment : public testing::Environment {
public:
    void SetUp() override { installer::setwebroad(&installer::httpwebroad()); }
};

[[maybe_unused]] testing::Environment* const kWebRoad = testing::AddGlobalTestEnvironment(new WebRoadEnvironment);

}  // namespace
