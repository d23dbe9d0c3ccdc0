// The embedded engine's lock folder, one per user.
//
// The engine keeps its lock and shared-memory files in one folder for the whole machine; once
// one user has opened a database embedded, the files there belong to that user and every other
// user's connect fails ("operating system directive access failed ... Permission denied"). Each
// user gets a private folder of their own instead. Two processes still never open one database
// file embedded at once, whoever runs them: the engine also locks the database file itself, and
// the second is refused ("Database already opened with engine instance").
#pragma once

#include <string>

// Points the engine at the user's own lock folder, made if absent (mode 0700), unless the
// environment already names one (FIREBIRD_LOCK). REQUIRES: called before the client library is
// loaded. Leaves the engine's default in place when no private folder can be had; answers the
// folder in use ("" for the default).
std::string UsePrivateLockFolder();
