#pragma once

// Where the encoder is installed on the program's C: drive, and the names of its files. Plain
// C++: the engine's worker names its module from here as well.
namespace encoder_folder {

// The encoder's folder below a drive's root, "/" between the names (the platform layer gives
// it in Windows form, with "\").
inline constexpr char Path[] = "Program Files/Windows Media Components/Encoder";

// The engine module, whose presence tells that the encoder is installed.
inline constexpr char ModuleFile[] = "WMEncEng.dll";
// The worker process that loads the module and runs one job.
inline constexpr char WorkerFile[] = "WMEncWorker";
// The profile editor.
inline constexpr char ProfileEditorFile[] = "WMProEdt.exe";
// The folder of the encoder's profiles.
inline constexpr char ProfilesFolder[] = "Profiles";

} // namespace encoder_folder
