#pragma once

#include <QString>

// The flag of a two-letter country code, written out the long way for expectations.
QString flagOf(const char* code);
