#pragma once
// What the wizard's tests share: a fixture machine's drives, the update
// files start-up reads, and the hand that closes the modal dialogs and
// message boxes the code under test opens.

#include <QAbstractButton>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>

#include "DriveFixtures.h"
#include "WIN_Drives.h"

namespace wtest {

// A machine with a system disk, to which cards in USB readers are added.
class DriveTree {
 public:
  explicit DriveTree(std::filesystem::path root);
  // A card on the disk's first partition, labelled, mounted on a folder
  // below the tree's root that is made for it; returns that folder.
  std::filesystem::path AddCard(const std::string& disk, const std::string& deviceNumber, const std::string& label);
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

// Runs the action on the next modal window once it is open (within 5 s;
// the test fails otherwise), from the modal window's own loop.
void WhenModal(std::function<void(QWidget& modal)> action);

// The button with the id in the window; the test fails without one.
QAbstractButton& Button(const QWidget& window, int id);
// The text of the label with the id.
QString Text(const QWidget& window, int id);

}  // namespace wtest
