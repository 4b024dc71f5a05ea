// Comment Selected on the program's own editor control, compiled once here.
#include "CommentSelected.h"

namespace CommentSelected
{

template void CommentLines<EditorControl>(EditorControl &code);

} // namespace CommentSelected
