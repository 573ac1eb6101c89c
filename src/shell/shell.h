#pragma once

#include <cstdint>

class AboutOrvida;
class Form1;

// The program's start-up and its windows. Each window exists at most once: showing a window
// that is not loaded creates it (its load handler runs before it is first seen), showing an
// open one brings that same window forward, and closing one destroys it.
namespace Shell {

// 0 until the About window has been closed for the first time, then 1 for good.
extern int16_t SplashShown;

// Makes the program's resources, fonts and style ready, and tells screen readers what its
// windows are; safe to call more than once.
void Prepare();

// Prepares and shows the About window alone, as the start-up splash.
void Start();

// Runs the whole program; returns when its last window has closed.
int Run(int argc, char** argv);

AboutOrvida* ShowAboutOrvida();
Form1* ShowForm1();

// The loaded windows, or nullptr.
AboutOrvida* LoadedAboutOrvida();
Form1* LoadedForm1();

}  // namespace Shell
