#pragma once
#include "app/globals_win.h"

void ShowHelp();
void ShowAboutBox();
void OpenWebSite();
