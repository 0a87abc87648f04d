// Makes the ChinaRen provider known to the account factory.
#pragma once

// Registers CAccountChinaRen for the provider type names
// "ChinaRen(ChinaRen用户)" and "ChinaRen(Sohu用户)". Called once at start-up,
// before the accounts load.
void RegisterProviderChinaRen();
