#pragma once

class QWidget;

// Where the window opens: as large and where it was last closed, maximised if it was; the first
// time, at a comfortable size for its screen, in its middle, and never below its least size.
void RestoreWindowPlace(QWidget& window);
// Keeps the window's size and place for the next start.
void RememberWindowPlace(const QWidget& window);
