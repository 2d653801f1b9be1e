// The dismount of a card: syncfs on its volume, then an unmount through
// UDisks2, which lets a desktop user unmount what the desktop mounted for
// them, or, where UDisks2 is not installed, by umount2, which needs
// privileges. The client is asked for the volume's device ("-b /dev/sdb1")
// as the mount table names it.

#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "GLO_Exception.h"
#include "WIN_DismountVolume.h"
#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_Handle.h"
#include "WIN_MountTable.h"
#include "WIN_Retry.h"

extern char** environ;

namespace win {
namespace {

constexpr int Attempts = 4;
constexpr std::chrono::milliseconds Pause{500};

bool IsRemovableRoot(const std::string& folder, const DriveSources_t& sources)
{
  for (const Drive_t& drive : WIN_ListDrives(sources))
    if (WIN_SystemPath(drive.root) == folder) return drive.type == DriveType_t::Removable;
  return false;
}

void Flush(const std::u16string& root, const std::string& folder)
{
  const Handle_t volume(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!volume.IsValid()) throw FileError_t(GLO_HERE, root);
  if (::syncfs(volume.Get()) != 0) throw FileError_t(GLO_HERE, root);
}

// The device of the volume seen on the folder: of several volumes mounted
// there, the last one.
std::string MountedDevice(const std::string& folder, const std::u16string& mountTable)
{
  std::string device;
  for (const MountEntry_t& entry : WIN_ReadMountTable(mountTable))
    if (entry.mountPoint == folder) device = entry.source;
  return device;
}

class SpawnActions {
 public:
  SpawnActions() { Check(::posix_spawn_file_actions_init(&actions_)); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }

  // The client's output is of no use here, and it must not wait for input.
  void Silence()
  {
    Check(::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0));
    Check(::posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0));
    Check(::posix_spawn_file_actions_adddup2(&actions_, STDOUT_FILENO, STDERR_FILENO));
  }
  const posix_spawn_file_actions_t* Get() const noexcept { return &actions_; }

 private:
  static void Check(int code)
  {
    if (code != 0) throw Error_t(GLO_HERE, static_cast<std::uint32_t>(code));
  }

  posix_spawn_file_actions_t actions_;
};

// Runs the UDisks2 client on the device: 0 when it unmounted the volume,
// EBUSY when it failed, ENOENT when it is not installed.
int UnmountWithClient(const std::string& client, const std::string& device)
{
  SpawnActions actions;
  actions.Silence();
  std::string arguments[] = {client, "unmount", "--no-user-interaction", "-b", device};
  char* argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(),
                  arguments[3].data(), arguments[4].data(), nullptr};
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, client.c_str(), actions.Get(), nullptr, argv, environ);
  if (spawned == ENOENT) return ENOENT;
  if (spawned != 0) throw Error_t(GLO_HERE, static_cast<std::uint32_t>(spawned));
  int status = 0;
  if (WIN_Retry([&] { return ::waitpid(child, &status, 0); }) < 0) throw Error_t(GLO_HERE);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : EBUSY;
}

// One attempt: 0 when the volume is unmounted, else the errno of the
// refusal. A client found missing is not looked for again.
int Unmount(std::string& client, const std::string& device, const std::string& folder)
{
  if (!client.empty()) {
    const int refusal = UnmountWithClient(client, device);
    if (refusal != ENOENT) return refusal;
    client.clear();
  }
  return ::umount2(folder.c_str(), 0) == 0 ? 0 : errno;
}

}  // namespace

void WIN_DismountVolume(const std::u16string& root, const DismountSources_t& sources)
{
  const std::string folder = WIN_SystemPathWithoutTrailingSeparator(root);
  if (!IsRemovableRoot(folder, sources.drives)) return;
  Flush(root, folder);

  std::string client = WIN_SystemPath(sources.udisksctl);
  const std::string device = client.empty() ? std::string() : MountedDevice(folder, sources.drives.mountTable);
  for (int attempt = 1;; ++attempt) {
    const int refusal = Unmount(client, device, folder);
    if (refusal == 0) return;
    // Only a busy volume may come free; other refusals stay as they are.
    if (refusal != EBUSY || attempt == Attempts) throw Error_t(GLO_HERE, static_cast<std::uint32_t>(refusal));
    std::this_thread::sleep_for(Pause);
  }
}

}  // namespace win
