#include "shell/panes/TPzShellOperations.h"

#include <sys/stat.h>

TPzShellOperations PasteOperation(const TFileNames& pastedFiles)
{
    if (pastedFiles.IsEmpty())
        return kPasteCopyOperation;
    struct stat st
    {};
    const bool fileExists = ::lstat(pastedFiles.GetBytes(0).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    return fileExists ? kPasteCopyOperation : kPasteMoveOperation;
}

TPzShellOperations DragSourceOperation(TDropEffects effect)
{
    if (!effect)
        return {};
    if (effect == DROPEFFECT_COPY)
        return opDragSource | opCopy;
    if (effect == DROPEFFECT_MOVE)
        return opDragSource | opMove | opItemsGone;
    return opDragSource;
}

TPzShellOperations DropOperation(TDropEffects effect)
{
    if (effect == DROPEFFECT_COPY)
        return opDrop | opCopy;
    if (effect == DROPEFFECT_MOVE)
        return opDrop | opMove;
    return opDrop;
}
