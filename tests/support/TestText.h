#pragma once

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

// The flag of a two-letter country code, written out the long way for expectations.
QString flagOf(const char* code);

// A string of up to maxLength - 1 pieces drawn at random, for property-style tests.
QString randomText(QRandomGenerator& random, const QStringList& pieces, int maxLength);
