// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's identity, in one place.
namespace td::info {
inline constexpr const char* applicationName = "Tidra";
inline constexpr const char* organizationName = "Morvane";
inline constexpr const char* organizationDomain = "morvane.org";
inline constexpr const char* homePage = "https://morvane.org/tidra";
inline constexpr const char* contactEmail = "tidra@morvane.org";
inline constexpr const char* mainWindowTitle = "Tidra!!! Settings";
inline constexpr const char* dataFolderName = ".Tidra";
inline constexpr int versionMajor = 1;
inline constexpr int versionMinor = 2;
inline constexpr const char* versionPatch = "31";
} // namespace td::info
