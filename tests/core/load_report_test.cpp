// Load reports: one box per kind of failed file in a load, naming the files and
// why, however many times they failed.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/load_report.h"
#include "core/message_sink.h"

namespace torvane {
namespace {

TEST(LoadReport, GathersEachKindIntoOneBoxNamingFilesAndCauses)
{
    ScopedMessageCapture messages;
    {
        const ScopedLoadReport report;
        for (int i = 0; i < 1000; ++i) {
            reportFileProblem(FileProblemKind::Texture, "textures/gone.png", FileFault::NotFound);
        }
        reportFileProblem(FileProblemKind::Mesh, "objets/bomb.x", FileFault::TooLarge);
        {
            const ScopedLoadReport nested;
            reportFileProblem(FileProblemKind::Texture, "textures/cmyk.jpg", FileFault::UnsupportedFormat);
        }
        EXPECT_TRUE(messages.boxes().empty()) << "nothing shown before the load ends";
        for (const char* path : {"a.png", "b.png", "c.png", "d.png", "e.png"}) {
            reportFileProblem(FileProblemKind::Texture, path, FileFault::Damaged);
        }
    }
    EXPECT_EQ(messages.boxes(), (std::vector<std::string>{
                                    "Erreur: Impossible de trouver le fichier de texture.\n"
                                    "1006 échecs, 7 fichiers :\n"
                                    "textures/gone.png : fichier introuvable\n"
                                    "textures/cmyk.jpg : format non pris en charge\n"
                                    "a.png : fichier endommagé ou tronqué\n"
                                    "b.png : fichier endommagé ou tronqué\n"
                                    "c.png : fichier endommagé ou tronqué\n"
                                    "… et 2 autres fichiers",
                                    "Erreur: Impossible de trouver l'Objet\nobjets/bomb.x : fichier trop volumineux"}));

    messages.clear();
    reportFileProblem(FileProblemKind::LevelFile, "maps/city.map", FileFault::NotRegularFile);
    reportFileProblem(FileProblemKind::Mesh, "objets/odd.x", FileFault::NoFault);
    EXPECT_EQ(messages.boxes(), (std::vector<std::string>{
                                    "Erreur: Impossible d'ouvrir le fichier maps/city.map\n"
                                    "maps/city.map : pas un fichier ordinaire",
                                    "Erreur: Impossible de trouver l'Objet\nobjets/odd.x : contenu illisible"}))
        << "outside a load, a box at once";
}

} // namespace
} // namespace torvane
