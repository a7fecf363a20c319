// The launcher's option defaults and the command line, both written into the
// engine game's option dictionary (Vision::Game.GetDictionary()).
#pragma once

class VStrDictionary;

// Writes the eight option defaults.
void SetDefaultOptions();
void SetDefaultOptions(VStrDictionary& dictionary);

// Applies the raw command line: "-Name value" or "-Name=value" for keys that
// exist, and the five plain switches otherwise. Nothing for a null text.
void ApplyCommandLine(const char* text);
void ApplyCommandLine(VStrDictionary& dictionary, const char* text);
