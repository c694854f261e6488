#pragma once

#include <stdexcept>

namespace vastrel {

// A report that cannot be built or written; what() says why in words the user can act on.
class ReportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace vastrel
