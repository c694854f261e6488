#pragma once

#include "UserError.h"

namespace vastrel {

// A report that cannot be built or written, said in words the user can act on.
class ReportError : public UserError {
public:
    using UserError::UserError;
};

} // namespace vastrel
