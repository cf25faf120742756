#pragma once

class Fl_Widget;

// Widget callbacks of the main window. `data` is always the DalveryWindow;
// the widget argument is not used.
void machineBrowserCallback(Fl_Widget*, void* data);
void viewButtonCallback(Fl_Widget*, void* data);
void sliderCallback(Fl_Widget*, void* data);
void addRockCallback(Fl_Widget*, void* data);
void clearRocksCallback(Fl_Widget*, void* data);
