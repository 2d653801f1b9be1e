#pragma once
// What the wizard's tests share: a fixture machine's drives, the update
// files start-up reads, and the hand that closes the modal dialogs and
// message boxes the code under test opens.

#include <filesystem>
#include <string>

#include "DriveFixtures.h"
#include "qt/ModalHand.h"
#include "WIN_Drives.h"

namespace wtest {

// A machine with a system disk, to which cards in USB readers are added.
class DriveTree {
 public:
  explicit DriveTree(std::filesystem::path root);
  // A card on the disk's first partition, labelled, mounted on a folder
  // below the tree's root that is made for it; returns that folder.
  std::filesystem::path AddCard(const std::string& disk, const std::string& deviceNumber, const std::string& label);
  // The same, mounted on a folder that exists already (a real volume).
  void AddCard(const std::string& disk, const std::string& deviceNumber, const std::string& label,
               const std::filesystem::path& mountPoint);
  // A floppy disk drive with a disk in it.
  void AddFloppy();
  win::DriveSources_t Sources() const;
  const std::filesystem::path& Root() const noexcept { return root_; }

 private:
  std::filesystem::path root_;
  vtest::SysfsBuilder sysfs_;
  vtest::MountTableBuilder mounts_;
};

// An update file for "Skyline 400", "North Atlantic", cycle 2603.
void WriteUpdateFile(const std::filesystem::path& path);

using vtest::Button;
using vtest::Text;
using vtest::WhenModal;

}  // namespace wtest
