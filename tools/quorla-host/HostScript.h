// The steps of a --script file, one a line ("#" starts a comment, arguments
// with blanks go in double quotes):
//
//   import FILE...                 the files through the Import command's run
//   menu MENU ITEM                 a menu item of the bar shown, as a click sends it
//   dialog [CAPTION]               the next dialog to come up; the lines after it
//     file PATH                    (the Open dialog's file name)
//     text ID TEXT | check ID 0|1 | select ID INDEX | click ID
//                                  are played in that dialog, in order
//   activate DOCUMENT              brings a document's window to the front
//   turn DOCUMENT AZIMUTH ELEVATION   the view's direction, in degrees
//   zoom DOCUMENT FACTOR           about the middle of the view
//   save DOCUMENT json|svg PATH    close DOCUMENT
//   size WIDTH HEIGHT              the main window's size
//   shot NAME                      a picture of the main window now (NAME.png)
//   wait MILLISECONDS
//
// Dialogs nobody scripted are answered with their default button when
// pictures are taken, else cancelled; a dialog left open for ten seconds
// is cancelled.
#pragma once

#include <string>
#include <vector>

namespace testsupport {
class DialogDriver;
}

namespace quorlahost {

class HostWindow;
class Screenshots;

class HostScript {
public:
    // False, with the line and what is wrong in *error, for a script that
    // cannot run.
    bool Parse(const std::wstring& text, std::wstring* error);
    bool Load(const std::wstring& path, std::wstring* error);
    // Plays the steps; dialogs go through driver, pictures (shot) to shots
    // when given. Stops at the first step that fails.
    bool Run(HostWindow& host, testsupport::DialogDriver& driver, Screenshots* shots,
             std::wstring* error) const;

    // Tokens of one line, quotes removed; a "#" outside quotes ends it.
    static std::vector<std::wstring> Split(const std::wstring& line);

private:
    struct Step {
        int line;
        std::vector<std::wstring> words;
    };
    std::vector<Step> steps_;
};

} // namespace quorlahost
