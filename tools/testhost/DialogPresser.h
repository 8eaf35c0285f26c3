// Answers a modal dialog the way a user would, from a second thread while the first waits
// in the dialog: finds it by its title, types numbers into its fields and presses a button.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// The colour chooser's red, green and blue fields (its full form).
constexpr int kColourRedField = 706;
constexpr int kColourGreenField = 707;
constexpr int kColourBlueField = 708;

// `found` becomes true once a visible dialog of class #32770 with that title appears (within
// 20 seconds); then each (field id, number) is typed and `button` pressed. Join the thread
// after the call that opened the dialog has returned.
std::thread PressDialog(const std::string& title, int button, std::vector<std::pair<int, int>> fields,
                        std::atomic<bool>& found);

// The fields that type red, green and blue into the colour chooser.
std::vector<std::pair<int, int>> ColourFields(int red, int green, int blue);
