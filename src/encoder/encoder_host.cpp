#include "encoder/encoder_host.h"

#include "common/step_over.h"
#include "encoder/worker_backend.h"
#include "platform/machine.h"
#include "platform/win_paths.h"

std::unique_ptr<MediaEncoder> createEncoder(Machine &machine)
{
    const QString folder = machine.encoderFolder();
    QString shown = folder; // when the folder is on no drive, messages name it as it is
    stepOver([&] { shown = toWindowsPath(machine, folder); });
    return std::make_unique<MediaEncoder>(std::make_unique<WorkerBackend>(folder, shown));
}
