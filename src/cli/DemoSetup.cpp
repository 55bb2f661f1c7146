#include "cli/DemoSetup.h"

namespace veltrap {

DemoSetup StartDemoWeb() {
    DemoSetup setup;
    setup.error = "the demo web is not available in this build yet";
    return setup;
}

}  // namespace veltrap
