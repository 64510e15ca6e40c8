#pragma once
// The key-style sets the amount edit shares with the suite's other input
// controls. They belong to the key-style controls' header; until that is in
// the tree the same definitions stand here.
#if __has_include("ui/KeyStyles.h")
#include "ui/KeyStyles.h"
#else
#include <cstdint>

enum TKeyStyle : std::uint8_t { ksEnter = 0, ksLeft = 1, ksUp = 2, ksRight = 3, ksDown = 4 };
// Set of TKeyStyle as a byte: ksEnter 1, ksLeft 2, ksUp 4, ksRight 8, ksDown 16.
using TKeyStyles = std::uint8_t;
constexpr TKeyStyles ks(TKeyStyle s) { return static_cast<TKeyStyles>(1u << s); }

enum TAutoNextCtl : std::uint8_t { acMaxLength = 0, acTabKey = 1, acDownKey = 2, acSendEnter = 3 };
using TAutoNextCtls = std::uint8_t;
constexpr TAutoNextCtls ac(TAutoNextCtl c) { return static_cast<TAutoNextCtls>(1u << c); }
#endif
