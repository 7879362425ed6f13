#pragma once

// The Orvenna logo as Base64 text of a PNG image; see scripts/make-orvenna-mark.sh.
extern const char* const orvennaMarkBase64;
