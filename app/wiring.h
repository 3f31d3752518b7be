#pragma once

class MainWindow;
class PortMap;
struct Form1;

// Connects the window's widget events to the handlers; `ports` tells the
// status bar which device each Com number reaches.
void ConnectHandlers(MainWindow& window, Form1& f, const PortMap& ports);
