#pragma once

#include <functional>

#include <QString>

// Whether new files can be made in a folder.
using FolderProbe = std::function<bool(const QString &folder)>;

// Makes and removes a file in the folder, as saving the settings there would. Permission bits do
// not say it: root writes into read-only folders, and nobody writes on a read-only mount.
bool canCreateFilesIn(const QString &folder);

// The folder for the settings file and the three history files, in native form with a trailing
// separator. The executable's folder where files can be made in it and it is not under /usr, so
// a portable copy keeps its files beside it; otherwise "quillet" in the user's configuration folder
// ($XDG_CONFIG_HOME, or .config in the home folder where that is unset or not absolute), made when
// missing. Where no configuration folder can be named (no absolute home either), the executable's
// folder after all.
QString chooseDataFolder(const QString &executableFolder, const QString &configHome,
    const QString &homeFolder, const FolderProbe &canWrite = canCreateFilesIn);

// The folder in use for this run, from the executable's folder and the environment. It probes the
// disk, so ask once and hand the result on.
QString dataFolder();

// Where pictures are saved while the settings name no folder: beside a portable copy, as always;
// for an installed copy (its folder holds the install's file list, or the data folder is not the
// executable's) the user's pictures folder, or home where there is none, rather than a program or
// configuration folder the user never looks into.
QString defaultSaveFolder(const QString &dataFolder, const QString &executableFolder,
    const QString &picturesFolder, const QString &homeFolder);
