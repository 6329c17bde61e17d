#pragma once
// The id the installed launcher, icon and metainfo share (the maker's site, reversed). The
// build sets it once, in the top-level CMakeLists.txt.

namespace vireo {

// "example.larkspur.Vireo": the launcher is <id>.desktop, the theme icon is named <id>.
const char* DesktopAppId();

}  // namespace vireo
