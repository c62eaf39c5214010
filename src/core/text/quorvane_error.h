#pragma once

#include <stdexcept>
#include <string>

namespace quorvane {

// The single exception type of the program. Its message is exactly the text the
// user reads in the error box, so handlers never translate or wrap it.
class QuorvaneError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace quorvane
