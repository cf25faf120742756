#pragma once

class DalveryWindow;

// buildSite, with the machines it creates kept reachable to the end of the
// test process as the program keeps them: a test's window goes before that,
// and with it the only pointers to them.
void buildKeptSite(DalveryWindow* window);
