#pragma once

class MainWindow;
struct Form1;

// Connects the window's widget events to the handlers.
void ConnectHandlers(MainWindow& window, Form1& f);
