#pragma once

#include <string>

namespace kora {

// The password of a connect string such as ";PWD=TRZN382pbk" (keys are read
// without regard to case; an absent PWD is the empty password).
std::string passwordOfConnect(const std::string& connect);

// The connect string of a state's database. It is the same in every
// installation, so that a database built elsewhere opens here, and differs
// from state to state, so that one state's file never opens as another's.
std::string stateConnectOf(const std::string& state);

} // namespace kora
