#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

#include "GLO_Text.h"
#include "ReporterFixture.h"
#include "UpdateFileBuilder.h"
#include "qt/QtTestApplication.h"

namespace wtest {
namespace {

// Start-up asks the machine's registry for an error reporter: the test
// program's own, empty unless a test writes it.
class MachineEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { vtest::MachineRegistry::Get(); }
};

::testing::Environment* const machineEnvironment = ::testing::AddGlobalTestEnvironment(new MachineEnvironment);

}  // namespace

DriveTree::DriveTree(std::filesystem::path root) : root_(std::move(root)), sysfs_(root_ / "sys")
{
  sysfs_.Disk("sda", "8:0", vtest::Attachment::Sata, false).Partition("sda", "sda1", "8:1");
  mounts_.Mount("/dev/sda1", "/", "ext4", "8:1").Mount("proc", "/proc", "proc", "0:22");
  std::filesystem::create_directories(root_ / "by-label");
  mounts_.Write(root_ / "mountinfo");
}

std::filesystem::path DriveTree::AddCard(const std::string& disk, const std::string& deviceNumber,
                                         const std::string& label)
{
  const auto mountPoint = root_ / "media" / label;
  std::filesystem::create_directories(mountPoint);
  AddCard(disk, deviceNumber, label, mountPoint);
  return mountPoint;
}

void DriveTree::AddCard(const std::string& disk, const std::string& deviceNumber, const std::string& label,
                        const std::filesystem::path& mountPoint)
{
  const std::string partition = disk + "1";
  const auto colon = deviceNumber.find(':');
  const std::string partitionNumber =
      deviceNumber.substr(0, colon + 1) + std::to_string(std::stoi(deviceNumber.substr(colon + 1)) + 1);
  sysfs_.Disk(disk, deviceNumber, vtest::Attachment::Usb, true).Partition(disk, partition, partitionNumber);
  vtest::AddLabelLink(root_ / "by-label", label, partition);
  mounts_.Mount("/dev/" + partition, mountPoint.string(), "vfat", partitionNumber);
  mounts_.Write(root_ / "mountinfo");
}

void DriveTree::AddFloppy()
{
  sysfs_.Disk("fd0", "2:0", vtest::Attachment::FloppyController, true);
  std::filesystem::create_directories(root_ / "floppy");
  mounts_.Mount("/dev/fd0", (root_ / "floppy").string(), "vfat", "2:0");
  mounts_.Write(root_ / "mountinfo");
}

win::DriveSources_t DriveTree::Sources() const
{
  win::DriveSources_t sources;
  sources.mountTable = glo::GLO_FileNameToWide((root_ / "mountinfo").string());
  sources.sysfs = glo::GLO_FileNameToWide((root_ / "sys").string());
  sources.byLabel = glo::GLO_FileNameToWide((root_ / "by-label").string());
  return sources;
}

void WriteUpdateFile(const std::filesystem::path& path)
{
  const auto bytes = vtest::UpdateFile().Build();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace wtest
