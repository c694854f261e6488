#pragma once

namespace vastrel {

class Database;

inline constexpr const char* kDemoUser = "DEMO";
inline constexpr const char* kDemoUserPassword = "DEMO";
inline constexpr const char* kDemoManifestKey = "20240315000001";

// A small, realistic reference set, a demo user, a company profile and one
// ready manifest, so a fresh installation can be tried at once.
void addDemoData(Database& db, bool air);

} // namespace vastrel
