// The about box Info shows: caption and text, Windows-1252.
#pragma once

constexpr const char* kAboutCaption = "Tippwerk";
// \xFC is u-umlaut, \xE4 is a-umlaut.
constexpr const char* kAboutText =
    "\n"
    "Dezember 2026 - Das Tippwerk-Team\n"
    "(tippwerk@example.org) mit C++ und MinGW-w64 programmiert!\n"
    "\n"
    "Besuchen Sie unsere Homepage:\n"
    "https://tippwerk.example.org\n"
    "\n"
    "F\xFCr Spenden w\xE4re ich sehr dankbar\n"
    "- vielleicht hat ja jemand durch\n"
    "dieses Programm viel Geld gespart!";
