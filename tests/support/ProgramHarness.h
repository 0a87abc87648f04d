// The end-to-end harness: the real program started as a child process in a
// temporary program folder, on the test's display, watched and driven
// through the test's own X connection (window lookup by title, XTest input,
// the window manager's close, screenshots saved as PNG under the build tree).
#pragma once

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

struct _XDisplay;

namespace tavrin::test {

class TempDir;

// The built program, when the build made one beside the tests.
std::string BuiltProgram();

class ProgramFolder {
public:
    // A fresh folder with a copy of the built program and the styles folder.
    ProgramFolder();
    ~ProgramFolder();
    std::string Path() const;
    // Sets (section, key, value) rows and writes config.xml with every row
    // set so far.
    void WriteConfig(const std::vector<std::vector<std::string>>& rows);
    // The proxy setting (keys 12 and 13): where the simulator listens.
    void UseProxy(const std::string& host, const std::string& port);
    // Writes a file below the folder (accounts/, class stores), making its folders.
    void Write(const std::string& relative, const std::string& bytes) const;
    // The text of config.xml, empty when there is none.
    std::string ConfigText() const;
    // The value of a key in config.xml ("<key>value</key>"); "(none)" when absent.
    std::string ConfigValue(const std::string& key) const;

private:
    std::unique_ptr<TempDir> m_dir;
    std::vector<std::vector<std::string>> m_rows;
};

// One run of the program with its output collected into a file.
class ProgramRun {
public:
    ProgramRun() = default;
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Starts the program of the folder with extra arguments and environment
    // (NAME=value; "NAME=" removes a variable). Its user configuration
    // folder is one of its own under the program folder.
    bool Start(const ProgramFolder& folder, const std::vector<std::string>& args = {},
               const std::vector<std::string>& env = {});
    // Waits for the exit; the exit status, or -1 when it did not end in time
    // (it is then killed) or was ended by a signal.
    int Wait(int timeoutMs = 30000);
    // True when the program ended within the time (it is left running otherwise).
    bool EndsWithin(int timeoutMs);
    bool Running();
    std::string Output() const;
    // True when a sanitizer reported in the output.
    bool SanitizerReported() const;
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_status = -1;
    std::string m_outputPath;
};

// The test's own connection to its display.
// Whether a text shows in a screenshot (0xRRGGBB rows): the text is drawn
// with our own text renderer in the given font and colours, and its inked
// pixels are looked for exactly. The place found goes to *px, *py.
bool FindText(const std::vector<unsigned>& shot, int width, int height, const char* gbkText, void* hfont,
              unsigned long textColour, unsigned long backColour, int* px = nullptr, int* py = nullptr);

class XSession {
public:
    XSession();
    ~XSession();
    bool IsOpen() const { return m_display != nullptr; }
    // The top-level window showing this title and belonging to the process;
    // 0 when none within the time.
    unsigned long WaitForWindow(const std::string& title, pid_t pid, int timeoutMs = 20000);
    // All top-level client windows with this title.
    std::vector<unsigned long> FindWindows(const std::string& title);
    bool IsMapped(unsigned long window);
    bool IsShown(unsigned long window);
    // Position on screen and size of the window's own area.
    bool Geometry(unsigned long window, int& x, int& y, int& width, int& height);
    void ScreenSize(int& width, int& height);
    // Asks the window to close as the window manager's close button does.
    void Close(unsigned long window);
    void Key(const char* keysym);
    // Button 1 (left) unless another is given (3: right).
    void Click(unsigned long window, int x, int y, unsigned button = 1);
    // Presses the left button at one point of the window, moves in steps to
    // the other and lets go there.
    void Drag(unsigned long window, int x0, int y0, int x1, int y1);
    // Types printable ASCII text key by key (Shift where the character needs it).
    void Type(const std::string& text);
    // The window's pixels as 0xRRGGBB rows; saved under the build tree as
    // name.png when a name is given (the path is printed).
    std::vector<unsigned> Capture(unsigned long window, int& width, int& height, const std::string& name = "");
    // Waits until the window shows more than one colour and two captures in
    // a row agree (mapped and painted), then captures as Capture does.
    std::vector<unsigned> CapturePainted(unsigned long window, int& width, int& height, const std::string& name = "",
                                         int timeoutMs = 10000);
    // The window manager's WM_STATE of a client window: 1 normal, 3 iconic,
    // 0 withdrawn (also when the property is gone).
    int WmState(unsigned long window);
    // Waits until the WM_STATE is the given one.
    bool WaitForWmState(unsigned long window, int state, int timeoutMs = 10000);
    void Iconify(unsigned long window);

    // Plays a notification area: owns the tray selection of the screen and
    // records the icons that ask to dock.
    void PlayTray();
    // Waits for an icon's request to dock; false when none came.
    bool WaitForDockRequest(int timeoutMs = 10000);
    // Plays a desktop panel of this height along the bottom edge (a dock
    // window with a strut); the window manager shrinks the work area.
    void PlayBottomPanel(int height);

private:
    ::_XDisplay* m_display = nullptr;
    unsigned long m_tray = 0;
    unsigned long m_panel = 0;
};

} // namespace tavrin::test
