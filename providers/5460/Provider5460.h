// Makes the 5460 provider known to the account factory.
#pragma once

// Registers CAccount5460 for the provider type names "5460(电信用户)" and
// "5460(网通用户)". Called once at start-up, before the accounts load.
void RegisterProvider5460();
