#pragma once

// Makes the main window's child windows known to it under their class names.
void registerChildWindows();
