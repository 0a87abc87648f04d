// The account factory: turns a provider type name into an account of that
// provider's class. Each provider registers its class for its names once at
// start-up, so the model builds and runs without the providers.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Types.h"

class CAccount;

// Makes a new account of a provider's class; owned by the caller.
typedef CAccount* (*AccountCreator)();

// Registers (or replaces, or with null removes) the class made for one of the
// provider type names; FALSE for any other name.
BOOL RegisterAccountClass(const CString& providerName, AccountCreator creator);

// A new account of the class registered for the name, with the name stored
// in it (SetProvider); null for a name that is none of the provider type
// names or has no class registered.
CAccount* CreateAccount(const CString& providerName);
