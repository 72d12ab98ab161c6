#pragma once

#include <string>

namespace kora {

// The password of a connect string such as ";PWD=TRZN382pbk" (keys are read
// without regard to case; an absent PWD is the empty password).
std::string passwordOfConnect(const std::string& connect);

} // namespace kora
