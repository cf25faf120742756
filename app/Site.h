#pragma once

class DalveryWindow;

// Creates the site's working machines and adds them to the window, in the
// order they appear in the machine list.
void buildSite(DalveryWindow* window);
