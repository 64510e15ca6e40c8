/* Domains of the data database. Money is exact to 1/10000 yen; codes of
   facilities, accounts, sub-accounts and departments are short ASCII texts. */

CREATE DOMAIN AC_CODE AS VARCHAR(6) CHARACTER SET ASCII;
CREATE DOMAIN AC_NAME AS VARCHAR(40) CHARACTER SET SJIS_0208;
CREATE DOMAIN CURRENCY AS NUMERIC(16,4);
CREATE DOMAIN LONGINT AS INTEGER;

COMMIT;
