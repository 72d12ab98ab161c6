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

// Whether a connect string opens a state database on a server: "PG;"
// followed by a libpq connection text ("host=db1 dbname=kora user=agent").
bool isServerConnect(const std::string& connect);
// The connect string of a state on a server, from its libpq connection text.
std::string serverConnectOf(const std::string& connectionText);
// The schema of a state on a server: kora_ and the state in lower case.
std::string serverSchemaOf(const std::string& state);
// The libpq connection text of a server connect string.
std::string serverConnectionText(const std::string& connect);
// The connection text with any password taken out, for messages.
std::string serverTextWithoutPassword(const std::string& connect);

} // namespace kora
