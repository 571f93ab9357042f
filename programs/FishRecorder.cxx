/*=========================================================================

  Program:   Fish animation programs
  Module:    FishRecorder.cxx

=========================================================================*/
#include "FishRecorder.h"

#include "FishProgram.h"
#include "FishProgramTable.h"

#include "vtkNew.h"
#include "vtkRenderWindow.h"
#include "vtkUnsignedCharArray.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <regex>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
constexpr const char* Usage =
  "usage: pelagrin-record PROGRAM OUTPUT [--cycles N] [--fps N]\n"
  "  PROGRAM  pelagrin-eight, pelagrin-ring, pelagrin-eight-bare, pelagrin-ring-bare or moorwhisk\n"
  "  OUTPUT   a .mp4, .webm or .gif file, or frames named with a %d-style number ending\n"
  "           .png (e.g. frames/fish%04d.png)\n"
  "  --cycles N  animation cycles to record (default 1)\n"
  "  --fps N     frames per second of the video (default 60)\n";

// Exit statuses.
constexpr int Written = 0;
constexpr int Failed = 1;
constexpr int WrongCommand = 2;

volatile std::sig_atomic_t Interruption = 0;

void Interrupt(int signal)
{
  Interruption = signal;
}

double Now()
{
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Say(const std::string& text)
{
  std::fprintf(stderr, "pelagrin-record: %s\n", text.c_str());
}

//------------------------------------------------------------------------------
// The command line.

enum class Format
{
  Mp4,
  WebM,
  Gif,
  Png
};

struct Request
{
  std::string ProgramName;
  const FishProgramConstants* Constants = nullptr;
  std::string Output;
  Format OutputFormat = Format::Mp4;
  int Cycles = 1;
  int Fps = 60;
};

bool EndsWith(const std::string& text, const std::string& end)
{
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A whole number from 1 to limit, written as nothing but digits.
bool ReadPositive(const char* text, int limit, int& value)
{
  const std::string digits = text;
  if (digits.empty() || digits.size() > 9 ||
    digits.find_first_not_of("0123456789") != std::string::npos)
  {
    return false;
  }
  value = std::atoi(text);
  return value >= 1 && value <= limit;
}

std::string Folder(const std::string& path)
{
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path)
{
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ChooseFormat(const std::string& output, Format& format, std::string& error)
{
  static const std::regex framePattern("^[^%]*%0?[0-9]*d[^%]*\\.png$");
  if (EndsWith(output, ".png"))
  {
    format = Format::Png;
    if (!std::regex_match(BaseName(output), framePattern))
    {
      error = "'" + output + "' needs one %d-style frame number in its name, as in fish%04d.png";
      return false;
    }
    return true;
  }
  const struct
  {
    const char* Extension;
    Format Kind;
  } kinds[] = { { ".mp4", Format::Mp4 }, { ".webm", Format::WebM }, { ".gif", Format::Gif } };
  for (const auto& kind : kinds)
  {
    // A name before the extension, too.
    if (EndsWith(output, kind.Extension) && BaseName(output) != kind.Extension)
    {
      format = kind.Kind;
      return true;
    }
  }
  error = "'" + output + "' has none of the extensions .mp4, .webm, .gif or %d.png";
  return false;
}

bool CheckFolder(const std::string& output, std::string& error)
{
  const std::string folder = Folder(output);
  struct stat info;
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
  {
    error = "the folder '" + folder + "' of '" + output + "' does not exist";
    return false;
  }
  if (access(folder.c_str(), W_OK | X_OK) != 0)
  {
    error = "the folder '" + folder + "' of '" + output + "' cannot be written";
    return false;
  }
  return true;
}

std::string ProgramNames()
{
  std::string names;
  for (const NamedFishProgram& program : FishPrograms)
  {
    names += std::string(names.empty() ? "" : ", ") + program.Name;
  }
  return names;
}

// Fills the request; false, with the reason, for a command line that is
// not one.
bool ParseRequest(int argc, char* argv[], Request& request, std::string& error)
{
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i)
  {
    const std::string argument = argv[i];
    if (argument == "--cycles" || argument == "--fps")
    {
      int& value = argument == "--cycles" ? request.Cycles : request.Fps;
      const int limit = 1000;
      if (i + 1 >= argc || !ReadPositive(argv[i + 1], limit, value))
      {
        error = argument + " needs a whole number from 1 to " + std::to_string(limit) +
          (i + 1 < argc ? std::string(", not '") + argv[i + 1] + "'" : std::string());
        return false;
      }
      ++i;
    }
    else if (argument.size() > 1 && argument[0] == '-')
    {
      error = "unknown option '" + argument + "'";
      return false;
    }
    else
    {
      positional.push_back(argument);
    }
  }
  if (positional.size() != 2)
  {
    error = "it takes a program and an output";
    return false;
  }
  request.ProgramName = positional[0];
  request.Output = positional[1];
  request.Constants = FindFishProgram(request.ProgramName.c_str());
  if (!request.Constants)
  {
    error = "there is no program '" + request.ProgramName + "'; the programs are " + ProgramNames();
    return false;
  }
  return ChooseFormat(request.Output, request.OutputFormat, error) &&
    CheckFolder(request.Output, error);
}

// Whether an executable of that name lies on the PATH.
bool OnPath(const char* name)
{
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size())
  {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = folders.substr(start, end - start);
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0)
    {
      return true;
    }
    start = end + 1;
  }
  return false;
}

//------------------------------------------------------------------------------
// Where the output goes: a temporary name beside OUTPUT, renamed at the end.

class OutputTarget
{
public:
  explicit OutputTarget(const Request& request)
    : Final(request.Output)
    , Frames(request.OutputFormat == Format::Png)
  {
    const std::string partial = ".partial-" + std::to_string(getpid());
    // Frames go to a folder of their own, under their final names; ffmpeg
    // reads a frame number pattern in the whole path, so the folder's name
    // holds none.
    this->Scratch = Folder(this->Final) + "/." +
      (this->Frames ? std::string("pelagrin-record-frames") : BaseName(this->Final)) + partial;
    this->Temporary = this->Frames ? this->Scratch + "/" + BaseName(this->Final) : this->Scratch;
  }
  OutputTarget(const OutputTarget&) = delete;
  OutputTarget& operator=(const OutputTarget&) = delete;
  ~OutputTarget() { this->Discard(); }

  bool Prepare(std::string& error)
  {
    if (this->Frames && mkdir(this->Scratch.c_str(), 0755) != 0)
    {
      error = "cannot make '" + this->Scratch + "': " + std::strerror(errno);
      return false;
    }
    this->Prepared = true;
    return true;
  }

  // Where ffmpeg writes.
  const std::string& Path() const { return this->Temporary; }

  // Gives the output its final name; returns its size in bytes.
  bool Commit(long long& bytes, std::string& error)
  {
    bytes = 0;
    if (!this->Frames)
    {
      bytes = SizeOf(this->Temporary);
      if (std::rename(this->Temporary.c_str(), this->Final.c_str()) != 0)
      {
        error = "cannot rename the video to '" + this->Final + "': " + std::strerror(errno);
        return false;
      }
      this->Prepared = false;
      return true;
    }
    for (const std::string& name : this->FrameFiles())
    {
      const std::string from = this->Scratch + "/" + name;
      const std::string to = Folder(this->Final) + "/" + name;
      bytes += SizeOf(from);
      if (std::rename(from.c_str(), to.c_str()) != 0)
      {
        error = "cannot move the frame '" + to + "' into place: " + std::strerror(errno);
        return false;
      }
    }
    rmdir(this->Scratch.c_str());
    this->Prepared = false;
    return true;
  }

  // Removes whatever was written.
  void Discard()
  {
    if (!this->Prepared)
    {
      return;
    }
    if (this->Frames)
    {
      for (const std::string& name : this->FrameFiles())
      {
        std::remove((this->Scratch + "/" + name).c_str());
      }
      rmdir(this->Scratch.c_str());
    }
    else
    {
      std::remove(this->Temporary.c_str());
    }
    this->Prepared = false;
  }

private:
  static long long SizeOf(const std::string& path)
  {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
  }

  std::vector<std::string> FrameFiles() const
  {
    std::vector<std::string> names;
    if (DIR* folder = opendir(this->Scratch.c_str()))
    {
      while (dirent* entry = readdir(folder))
      {
        if (entry->d_name[0] != '.')
        {
          names.push_back(entry->d_name);
        }
      }
      closedir(folder);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string Final;
  bool Frames;
  std::string Temporary;
  std::string Scratch;
  bool Prepared = false;
};

//------------------------------------------------------------------------------
// ffmpeg in a process of its own, reading raw RGB frames from a pipe.

std::vector<std::string> EncoderArguments(
  Format format, int width, int height, int fps, const std::string& path)
{
  std::vector<std::string> arguments = { "ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f",
    "rawvideo", "-pix_fmt", "rgb24", "-s", std::to_string(width) + "x" + std::to_string(height),
    "-r", std::to_string(fps), "-i", "pipe:0" };
  // VTK's rows run from the bottom up.
  std::vector<std::string> encoding;
  switch (format)
  {
    case Format::Mp4:
      encoding = { "-vf", "vflip", "-c:v", "libx264", "-preset", "fast", "-crf", "18", "-pix_fmt",
        "yuv420p", "-movflags", "+faststart", "-f", "mp4" };
      break;
    case Format::WebM:
      encoding = { "-vf", "vflip", "-c:v", "libvpx-vp9", "-crf", "32", "-b:v", "0", "-deadline",
        "realtime", "-cpu-used", "8", "-row-mt", "1", "-f", "webm" };
      break;
    case Format::Gif:
      encoding = { "-filter_complex",
        "vflip,split[a][b];[a]palettegen=stats_mode=full[p];[b][p]paletteuse=dither=bayer", "-loop",
        "0", "-f", "gif" };
      break;
    case Format::Png:
      encoding = { "-vf", "vflip", "-c:v", "png", "-start_number", "0", "-f", "image2" };
      break;
  }
  arguments.insert(arguments.end(), encoding.begin(), encoding.end());
  arguments.push_back(path);
  return arguments;
}

class Encoder
{
public:
  Encoder() = default;
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;
  ~Encoder() { this->Abort(); }

  bool Start(const std::vector<std::string>& arguments, std::string& error)
  {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
    {
      error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
      return false;
    }
    // Room for a frame or two, so that drawing and encoding overlap.
    fcntl(pipeEnds[1], F_SETPIPE_SZ, 4 << 20);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
    {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    this->Process = fork();
    if (this->Process < 0)
    {
      error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
      return false;
    }
    if (this->Process == 0)
    {
      // ffmpeg ends with the recorder, however the recorder ends.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent)
      {
        _exit(127);
      }
      dup2(pipeEnds[0], STDIN_FILENO);
      close(pipeEnds[0]);
      close(pipeEnds[1]);
      execvp(argv[0], argv.data());
      _exit(127);
    }
    close(pipeEnds[0]);
    this->Input = pipeEnds[1];
    return true;
  }

  // Hands a frame to ffmpeg; false when ffmpeg no longer takes it.
  bool Write(const unsigned char* bytes, std::size_t size)
  {
    while (size > 0)
    {
      const ssize_t written = write(this->Input, bytes, size);
      if (written < 0 && errno == EINTR && !Interruption)
      {
        continue;
      }
      if (written <= 0)
      {
        return false;
      }
      bytes += written;
      size -= static_cast<std::size_t>(written);
    }
    return true;
  }

  // Ends the input and waits for ffmpeg; true when it finished well.
  bool Finish()
  {
    this->CloseInput();
    return this->Wait() == 0;
  }

  void Abort()
  {
    this->CloseInput();
    if (this->Process > 0)
    {
      kill(this->Process, SIGKILL);
      this->Wait();
    }
  }

private:
  void CloseInput()
  {
    if (this->Input >= 0)
    {
      close(this->Input);
      this->Input = -1;
    }
  }

  int Wait()
  {
    int status = 0;
    while (this->Process > 0 && waitpid(this->Process, &status, 0) < 0 && errno == EINTR)
    {
    }
    this->Process = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  pid_t Process = -1;
  int Input = -1;
};

//------------------------------------------------------------------------------
// Progress on standard error, and what the frames cost.

class Progress
{
public:
  explicit Progress(const std::string& what)
    : What(what)
    , Terminal(isatty(STDERR_FILENO) != 0)
  {
  }

  void Frame(int done, int total)
  {
    const double now = Now();
    if (this->Started == 0)
    {
      this->Started = now;
    }
    const bool tenth = done * 10 / total != (done - 1) * 10 / total || done == total;
    if (this->Terminal ? (now - this->Shown < 0.1 && done < total) : !tenth)
    {
      return;
    }
    this->Shown = now;
    const double rate = done > 1 ? (done - 1) / std::max(now - this->Started, 1e-9) : 0.0;
    const int percent = 100 * done / total;
    char line[200];
    if (this->Terminal)
    {
      const int width = 30;
      const int filled = width * done / total;
      std::snprintf(line, sizeof(line), "\r%s [%s%s] %d/%d frames, %.1f frames/s, %s left ",
        this->What.c_str(), std::string(filled, '#').c_str(),
        std::string(width - filled, '.').c_str(), done, total, rate,
        TimeLeft(total - done, rate).c_str());
    }
    else
    {
      std::snprintf(line, sizeof(line), "%s: %d/%d frames (%d%%), %.1f frames/s, %s left\n",
        this->What.c_str(), done, total, percent, rate, TimeLeft(total - done, rate).c_str());
    }
    std::fputs(line, stderr);
    if (this->Terminal && done == total)
    {
      std::fputc('\n', stderr);
    }
    std::fflush(stderr);
  }

  // Ends a line left open on a terminal by a recording cut short.
  void Stop(int done, int total)
  {
    if (this->Terminal && this->Shown != 0 && done < total)
    {
      std::fputc('\n', stderr);
    }
  }

private:
  static std::string TimeLeft(int frames, double rate)
  {
    if (rate <= 0)
    {
      return "? s";
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%.0f s", frames / rate);
    return text;
  }

  std::string What;
  bool Terminal;
  double Started = 0;
  double Shown = 0;
};

// The time of each frame as the program draws it (from the end of the
// previous frame's hand-off to the end of its render) and of reading it
// back and handing it to ffmpeg.
struct FrameCosts
{
  double Drawing = 0;
  double Recording = 0;
  int Frames = 0;
};

std::string Size(long long bytes)
{
  char text[32];
  if (bytes >= 1000000)
  {
    std::snprintf(text, sizeof(text), "%.1f MB", bytes / 1e6);
  }
  else
  {
    std::snprintf(text, sizeof(text), "%.0f kB", bytes / 1e3);
  }
  return text;
}

//------------------------------------------------------------------------------
// The frames: drawn by the program's own code, read back, handed over.

class Recording
{
public:
  Recording(const Request& request, OutputTarget& target)
    : TheRequest(request)
    , Target(target)
    , Shown(request.ProgramName)
  {
  }

  // Runs the program; returns its status.
  int Run()
  {
    FishProgramRun run;
    run.Cycles = this->TheRequest.Cycles;
    run.Interact = false;
    run.OffScreen = true;
    run.AfterFrame = [this](vtkRenderWindow* window, int frame, int frames)
    { return this->TakeFrame(window, frame, frames); };
    return RunFishProgram(*this->TheRequest.Constants, run);
  }

  bool Complete() const { return this->Problem.empty() && this->Taken == this->Expected; }
  void EndProgress() { this->Shown.Stop(this->Taken, this->Expected); }
  const std::string& GetProblem() const { return this->Problem; }
  int GetTaken() const { return this->Taken; }
  const FrameCosts& GetCosts() const { return this->Costs; }
  Encoder& GetEncoder() { return this->TheEncoder; }
  int Width = 0;
  int Height = 0;

private:
  bool TakeFrame(vtkRenderWindow* window, int frame, int frames)
  {
    const double drawn = Now();
    if (Interruption)
    {
      return false;
    }
    if (frame == 0 && !this->StartEncoder(window, frames))
    {
      return false;
    }
    window->GetPixelData(0, 0, this->Width - 1, this->Height - 1, 1, this->Pixels);
    if (!this->TheEncoder.Write(
          this->Pixels->GetPointer(0), static_cast<std::size_t>(this->Pixels->GetNumberOfValues())))
    {
      if (!Interruption)
      {
        this->Problem = "ffmpeg stopped taking frames";
      }
      return false;
    }
    ++this->Taken;
    this->Shown.Frame(this->Taken, frames);
    const double handedOver = Now();
    // The first frame also builds the scene and starts ffmpeg.
    if (frame > 0)
    {
      this->Costs.Drawing += drawn - this->LastFrameEnd;
      this->Costs.Recording += handedOver - drawn;
      ++this->Costs.Frames;
    }
    this->LastFrameEnd = handedOver;
    return true;
  }

  bool StartEncoder(vtkRenderWindow* window, int frames)
  {
    this->Expected = frames;
    this->Width = window->GetSize()[0];
    this->Height = window->GetSize()[1];
    if (!this->Target.Prepare(this->Problem))
    {
      return false;
    }
    return this->TheEncoder.Start(EncoderArguments(this->TheRequest.OutputFormat, this->Width,
                                    this->Height, this->TheRequest.Fps, this->Target.Path()),
      this->Problem);
  }

  const Request& TheRequest;
  OutputTarget& Target;
  Progress Shown;
  Encoder TheEncoder;
  vtkNew<vtkUnsignedCharArray> Pixels;
  std::string Problem;
  int Taken = 0;
  int Expected = -1;
  double LastFrameEnd = 0;
  FrameCosts Costs;
};

void ReportCosts(const FrameCosts& costs)
{
  if (costs.Frames == 0 || costs.Drawing <= 0)
  {
    return;
  }
  const double drawing = 1000 * costs.Drawing / costs.Frames;
  const double recording = 1000 * costs.Recording / costs.Frames;
  char line[200];
  std::snprintf(line, sizeof(line),
    "a recorded frame took %.2f ms: %.2f ms to draw as the program does, %.2f ms to read back and "
    "hand to ffmpeg (%.2fx the program's own frame)",
    drawing + recording, drawing, recording, (drawing + recording) / drawing);
  Say(line);
}

void CatchInterruptions()
{
  struct sigaction action = {};
  action.sa_handler = Interrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}
} // namespace

//------------------------------------------------------------------------------
int RecordFishProgram(int argc, char* argv[])
{
  Request request;
  std::string error;
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
  {
    std::fputs(Usage, stdout);
    return Written;
  }
  if (!ParseRequest(argc, argv, request, error))
  {
    Say(error);
    std::fputs(Usage, stderr);
    return WrongCommand;
  }
  if (!OnPath("ffmpeg"))
  {
    Say("ffmpeg is not installed; it encodes the video: install Debian's ffmpeg package "
        "(apt-get install ffmpeg)");
    return Failed;
  }
  if (!std::getenv("DISPLAY"))
  {
    Say("there is no X display to draw on; a virtual one will do, for example: "
        "xvfb-run -a pelagrin-record ...");
    return Failed;
  }

  CatchInterruptions();
  OutputTarget target(request);
  Recording recording(request, target);
  // Whatever way out is taken, the recording (and with it ffmpeg) ends
  // before the target, which removes what was not committed.
  const int status = recording.Run();
  recording.EndProgress();
  const bool encoded = recording.Complete() && recording.GetEncoder().Finish();
  if (Interruption)
  {
    Say("interrupted; nothing was written to '" + request.Output + "'");
    return 128 + Interruption;
  }
  if (status != 0)
  {
    // The program has said what is wrong with its data files.
    return status < 0 ? 255 : status;
  }
  if (!encoded)
  {
    Say((recording.GetProblem().empty() ? std::string("ffmpeg failed") : recording.GetProblem()) +
      "; nothing was written to '" + request.Output + "'");
    return Failed;
  }
  long long bytes = 0;
  if (!target.Commit(bytes, error))
  {
    Say(error);
    return Failed;
  }
  Say("wrote " + request.Output + ": " + std::to_string(recording.GetTaken()) + " frames, " +
    std::to_string(recording.Width) + " x " + std::to_string(recording.Height) + ", " +
    Size(bytes));
  ReportCosts(recording.GetCosts());
  return Written;
}
