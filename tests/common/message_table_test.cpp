// Every message text, byte for byte in code page 1252, as the program must show it.
#include "sys/message_text.h"

#include <gtest/gtest.h>

namespace {
struct ExpectedMessage {
    unsigned nId;
    const char* pszText;
};

// Written out independently of res/message_table.inc, in the bytes the user must see.
const ExpectedMessage kExpected[] = {
    {5, "Une erreur intertne s\264est produise."},
    {8, "L\264installation n\264est pas termin\351.\n Voulez-vous quand-m\352me terminer?"},
    {13, " "},
    {18, "Peut pas ouvrir fichier."},
    {21, "Peut pas cr\351er de dossier temporaire."},
    {24, "Une erreur generale de fichier s\264est produise."},
    {27, "&Terminer"},
    {30, "&Terminer"},
    {33, "Un des fichiers du setup est endommag\351."},
    {36, "Veuillez inserer la disquette %1 ou preciser un dossier dans lequel se trouvent les fichiers restants."},
    {39, "&OK"},
    {42, "&Cancel"},
    {45, "&Dossier..."},
    {48, "Veuillez preciser un dossier."},
    {51, "Ne peut pas reserver assez de memoire pour cette operation."},
    {57, "Preparation du proces d\264installation."},
    {60, "Une erreur s\264est produise lors de la preparation de l\264installation."},
    {63, "Pendant l\264installation des fichiers, l\264erreur suivante s\264est produise."},
    {66, "Il y a eu une erreur pendant la d\351compression des fichiers."},
    {69, "Il y a eu une erruer interne."},
    {72, "Il y a eu une erreur inattendu."},
    {75, "Le setup copie les fichiers...\n\nEn train de copier: %1"},
    {78, "Veuillez pr\351ciser un dossier dans lequel sera install\351 l\264\351conomiseur d\264\351cran."},
    {81, "&Dossier:"},
    {84, "Vous avez pr\351ciser un parchemin non-valable.\nLe parchemin ne doit pas depasser 256 caract\350res en longuer ni contenir un des caract\350res suivants:\\*?<>\\\"|\n\nDe plus, les parchemins de reseau du stile \\\\serveur ne sont pas accept\351."},
    {87, "Co&mmencer"},
    {142, "Veuillez pr\351ciser un dossier pour les fichiers de votre \351conomiseur d\264\351cran."},
    {145, "Le dossier n\264existe pas. Etez-vous d\264accord qu\264il soit cr\351e?"},
    {148, "Ne peut pas initalisier  le setup de l\264\351conomiseur d \264\351cran."},
    {151, "Ne peut pas acceder au fichier. Veuillez assurer qu\264il ne soit pas ouvert par une autre application."},
    {154, "Le fichier choisi ne parait pas etre valide."},
    {157, "Ceci semble etre une mauvaise disquette."},
    {160, "Pendant le cr\351ation des dossiers sur votre syst\350me, l\264erreur suivante s\264est produise."},
    {163, "Peut pas cr\351er le dossier. Veuillez assurer d\264avoir les droits necessaires pour cr\351er des dossiers."},
    {166, "Le setup cr\351e les dossiers necessaires ..."},
    {169, "Le dossier suivant doit \352tre cr\351e: \n'%1'\n\nMais ce dossier existait d\351j\340 sur votre syst\350me. Voulez vous employer ce dossier pour y placer les fichiers?"},
    {172, "Le setup ne peut pas proceder."},
    {175, "Le fichier  '%1' devrait etre remplacer par un autre fichier.\n\nLes deux fichiers n\264ont aucune information de version.\nVoulez-vous remplacer le fichier ancien?"},
    {178, "Le fichier  '%1' devrait etre remplacer par un autre fichier. \n\nCes deux fichiers sont probablement le m\352me, car il ont la meme taille.\nVoulez-vous remplacer le fichier ancien?"},
    {181, "Ne peut pas obtenir le block d\264informations du fichier\n'%1'."},
    {184, "Note: le nouveau fichier est vital pour le bon fonctionement de votre \351conomiseur d\264\351cran."},
    {187, "Le fichier '%1' devrait \352tre remplac\351 par un autre fichier. \n\nLe fichier ancien porte des informations de version, l\264autre pas. \nVoulez-vous garder le fichier ancien? (Recommend\351!)"},
    {190, "Le fichier '%1' devrait \352tre remplac\351 par un autre fichier. \n\nLe nouveau fichier porte des informations de version, l\264autre pas. \nVoulez-vous remplacer le fichier ancien? (Recommend\351!)"},
    {193, "Le fichier existant '%1' supporte\n\"%2\", le nouveau fichier, cependant, inclus le support pour le language de votre syst\350me. (%3).\nVoulez-vous remplacer le fichier ancien? (Recommend\351!)"},
    {196, "Le fichier '%1' devrait \352tre remplac\351 par un autre fichier. \n\nCe fichier nouveau est essentiel pour le fonctionnement de l\264\351conomiseur d\264\351cran.\nVoulez-vous quand-m\352me garder le fichier ancien? (Pas recommend\351!)"},
    {199, "Une erreur s\264est produise lors de la compression d\264un fichier."},
    {202, "Le setup termine l\264installation..."},
    {205, "Pendant la terminaison de l\264installation, l\264erreur suivante s\264est produise."},
    {208, "Voulez-vous par la suite traiter tout fichiers semblabe de la meme facon?"},
    {211, "Oui, je veux redemmarrer mon ordinateur."},
    {214, "Montrer ensuite les propri\350tes de l\264\351conomiseur d\264\351cran."},
    {217, "L\264\351conomiseur d\264\351cran a \351t\351 install\351 sur votre syst\350me. Amusez-vous bien!"},
    {220, "L\264\351conomiseur d\264\351cran a \351t\351 install\351 sur votre syst\350me. Veuillez redemarrer votre ordinateur avant l\264emploi."},
    {223, "Erreur pendant la cr\351ation du fichier de d\351installation. Une erreur possible peut \352tre le fait qu\264il y ait d\351j\340 un fichier nomm\351 '%1'. Veuillez v\351rifier ceci et cliquer Reessayer ou Cancel pour ignorer."},
    {226, "Le logiciel d\264installation a trouv\351 une version plus ancienne de\ncet \351conomiseur d\264\351cran sur votre ordinateur. Il est recommand\351\nde l\264effacer avant de continuer avec l\264installation.\nVoulez-vous d\351installer la version ancienne?"},
    {227, "Le logiciel d\264installation n' a pas trouv\351 le fichier dans ce dossier."},
    {228, "Vous n'avez pas les droits d'acc\350s suffisant \npour installer cet \351conomiseur d'\351cran.\n\nVeuillez contacter votre administrateur ou une personne dot\351e\nde droits suffisants afin de pouvoir proc\351der \340 l'installation."},
};
} // namespace

TEST(MessageTable, EveryTextMatchesByteForByte)
{
    for (const ExpectedMessage& expected : kExpected) {
        std::string strText;
        ASSERT_TRUE(LoadMessage(expected.nId, strText)) << "message " << expected.nId;
        EXPECT_EQ(strText, expected.pszText) << "message " << expected.nId;
    }
}

TEST(MessageTable, NumbersOutsideTheTableHaveNoText)
{
    std::size_t nFound = 0;
    for (unsigned nId = 0; nId < 300; ++nId) {
        std::string strText = "unchanged";
        if (LoadMessage(nId, strText))
            ++nFound;
        else
            EXPECT_EQ(strText, "unchanged") << "message " << nId;
    }
    EXPECT_EQ(nFound, sizeof kExpected / sizeof kExpected[0]);
}

TEST(MessageTable, LongestTemplateFitsTheFormattingBuffer)
{
    std::string strText;
    ASSERT_TRUE(LoadMessage(84, strText));
    EXPECT_EQ(strText.size(), 227u);
}
