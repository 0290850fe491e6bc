// The product release this build is made for; both build from the same sources.
#pragma once

#ifndef KXBR_RELEASE
#define KXBR_RELEASE 90
#endif

inline constexpr bool kRelease90 = KXBR_RELEASE >= 90;
inline constexpr const char* kReleaseText = KXBR_RELEASE >= 90 ? "9.0" : "7.0";
