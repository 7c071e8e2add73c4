#include "base/Assertion.h"

#include <cstdlib>

#include "base/Format.h"
#include "base/Log.h"

namespace plinka {

void assertionFailure(Log& log, std::string_view method, std::string_view file, int line,
                      std::string_view expression) {
    log.log(stringWithFormat("*** Assertion failure in %@, %@:%d", {method, file, line}));
    log.log(
        stringWithFormat("*** Terminating app due to uncaught exception "
                         "'NSInternalInconsistencyException', reason: "
                         "'Invalid parameter not satisfying: %@'",
                         {expression}));
    std::abort();
}

}  // namespace plinka
