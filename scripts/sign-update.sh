#!/usr/bin/env bash
# Signs a release file for the update feed with the Ed25519 private key (PEM) kept outside the
# sources, and prints the enclosure attributes the feed needs:
#   scripts/sign-update.sh Vesperin-1.2.AppImage ~/keys/update-signing-ed25519.pem
# With --public-key KEY.pem it prints the key's public half in the form the program builds in.
set -euo pipefail

usage() {
    echo "usage: $0 FILE PRIVATE_KEY.pem | $0 --public-key PRIVATE_KEY.pem" >&2
    exit 2
}

[ $# -eq 2 ] || usage
if [ "$1" = "--public-key" ]; then
    # The DER form of an Ed25519 public key ends with its 32 raw bytes.
    openssl pkey -in "$2" -pubout -outform DER | tail -c 32 | base64
    exit 0
fi
[ -f "$1" ] && [ -f "$2" ] || usage
# openssl cannot sign an empty input this way, and no release is empty.
[ -s "$1" ] || { echo "$1 is empty" >&2; exit 2; }
signature=$(openssl pkeyutl -sign -rawin -inkey "$2" -in "$1" | base64 -w 0)
length=$(stat -c %s "$1")
echo "length=\"$length\" sparkle:edSignature=\"$signature\""
