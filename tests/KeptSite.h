#pragma once

class DalveryWindow;

// populateSite, with the machines it creates kept reachable to the end of
// the test process as the program keeps them: a test's window goes before
// that, and with it the only pointers to them.
void populateKeptSite(DalveryWindow* window);
