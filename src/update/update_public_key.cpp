// The update signing key compiled into this program. Its own translation
// unit so that a test build of the launcher can link another key without
// rebuilding the update library: an object that defines this function
// first keeps the archive's copy from being linked at all.
#include "update/signed_document.h"

#ifndef TARSEL_UPDATE_PUBLIC_KEY
#define TARSEL_UPDATE_PUBLIC_KEY ""
#endif

const char* BuiltInUpdatePublicKey() { return TARSEL_UPDATE_PUBLIC_KEY; }
