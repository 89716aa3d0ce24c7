// A person at the X display that DISPLAY names, answering a dialog with the
// keyboard through xdotool while a command waits for it.
#pragma once

#include <string>
#include <thread>
#include <vector>

// One xdotool command line, such as {"key", "ctrl+l"}.
using XdotoolCommand = std::vector<std::string>;

struct Answer
{
    std::string title;                  // the dialog's window title
    std::vector<XdotoolCommand> first;  // sent once the dialog has the focus
    XdotoolCommand repeat;              // sent until the dialog is gone
    // A folder the panel lists as it fills itself in: nothing is sent until
    // it has been read to its end. Empty for a panel that lists none.
    std::string listed = {};
};

// Answers one dialog on a thread of its own, from construction on.
struct Person
{
    bool answered = false; // the dialog appeared and went away in time
    int listing = -1;      // told when the folder listed is read and closed
    std::thread thread;

    explicit Person(Answer answer);
    ~Person();
    Person(const Person&) = delete;
    Person& operator=(const Person&) = delete;

    // Waits for the person to be done; answered is then final.
    bool done();
};
