# What the launcher trusts update documents by: the minisign public key they
# must be signed with, and the floor for their timestamps when the recorded
# one is lost. A build without a key takes whatever the update server says.

set(TARSEL_UPDATE_PUBLIC_KEY "" CACHE STRING
    "minisign public key (the base64 line of 'minisign -G's .pub file) that update documents must be signed with; empty: unsigned documents, no signature fetched")
option(TARSEL_REQUIRE_UPDATE_PUBLIC_KEY "Refuse to configure without TARSEL_UPDATE_PUBLIC_KEY (release builds)" OFF)
string(STRIP "${TARSEL_UPDATE_PUBLIC_KEY}" TARSEL_UPDATE_PUBLIC_KEY)
# "Ed", an 8-byte key id and a 32-byte Ed25519 key: 56 base64 characters.
if(TARSEL_UPDATE_PUBLIC_KEY AND NOT TARSEL_UPDATE_PUBLIC_KEY MATCHES "^RW[A-Za-z0-9+/]+$")
    message(FATAL_ERROR "TARSEL_UPDATE_PUBLIC_KEY is not a minisign public key line: '${TARSEL_UPDATE_PUBLIC_KEY}'")
endif()
string(LENGTH "${TARSEL_UPDATE_PUBLIC_KEY}" _key_length)
if(TARSEL_UPDATE_PUBLIC_KEY AND NOT _key_length EQUAL 56)
    message(FATAL_ERROR "TARSEL_UPDATE_PUBLIC_KEY must be 56 characters long, not ${_key_length}")
endif()
if(NOT TARSEL_UPDATE_PUBLIC_KEY)
    if(TARSEL_REQUIRE_UPDATE_PUBLIC_KEY)
        message(FATAL_ERROR "A release build needs TARSEL_UPDATE_PUBLIC_KEY (the second line of the minisign .pub file): "
                            "without it the launcher runs whatever installer the update server names")
    endif()
    message(WARNING "TARSEL_UPDATE_PUBLIC_KEY is not set: this launcher trusts the network. It runs, with "
                    "administrator rights, whatever installer the update server (or anyone between it and the "
                    "user) names. Set it for every build that leaves this machine.")
endif()

# Seconds since 1970 when this build folder was first configured; kept in
# the cache so that rebuilds do not move it.
string(TIMESTAMP _configure_time "%s" UTC)
set(TARSEL_UPDATE_TIMESTAMP_FLOOR "${_configure_time}" CACHE STRING
    "Update documents signed before this time (seconds since 1970) are refused when the recorded floor is unreadable")
if(NOT TARSEL_UPDATE_TIMESTAMP_FLOOR MATCHES "^[0-9]+$")
    message(FATAL_ERROR "TARSEL_UPDATE_TIMESTAMP_FLOOR must be seconds since 1970, not '${TARSEL_UPDATE_TIMESTAMP_FLOOR}'")
endif()
