// Puts every module's state back to program start.
#pragma once

namespace testing_support {

void ResetModules();

}
