/* included by Mixed_Case.c */
#badinclude
