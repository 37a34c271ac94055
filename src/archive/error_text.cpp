#include "archive/error_text.h"

#include <cerrno>

namespace acquenza {

std::string ItalianErrorText(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "permesso negato";
        case EROFS:
            return "il disco è di sola lettura";
        case ENOSPC:
            return "il disco è pieno";
        case EDQUOT:
            return "quota del disco superata";
        case EFBIG:
            return "il file supera la dimensione ammessa";
        case ENAMETOOLONG:
            return "il nome del file è troppo lungo";
        case ENOENT:
            return "la cartella o il file non esiste";
        case ENOTDIR:
            return "il percorso non indica una cartella valida";
        case EISDIR:
            return "il nome indica una cartella";
        case ELOOP:
            return "troppi collegamenti simbolici nel percorso (forse un collegamento circolare)";
        case EBUSY:
        case ETXTBSY:
            return "il file è in uso";
        case EIO:
            return "errore di lettura o scrittura sul disco";
        case EOPNOTSUPP:
#if ENOTSUP != EOPNOTSUPP
        case ENOTSUP:
#endif
            return "operazione non consentita su questo tipo di file o di disco";
        case EEXIST:
            return "esiste già un file con questo nome";
        case EMFILE:
        case ENFILE:
            return "troppi file aperti";
        case ENXIO:
        case ENODEV:
            return "il dispositivo non è disponibile";
        case EXDEV:
            return "il file e la cartella sono su dischi diversi";
        case EINVAL:
            return "nome o percorso non valido";
        case ENOMEM:
            return "memoria insufficiente";
        default:
            return "errore di sistema n. " + std::to_string(error);
    }
}

}  // namespace acquenza
