/* File-manager database: moves files between the client and the database
   server through a blob column. */

CREATE TABLE FILETRANS (
  CONTENT_ID  VARCHAR(64) CHARACTER SET ASCII NOT NULL,
  CONTENT     BLOB SUB_TYPE BINARY,
  CONSTRAINT PK_FILETRANS PRIMARY KEY (CONTENT_ID)
);

COMMIT;

/* A server extension reads a server file into a blob and writes a blob to a
   server file. These stand-ins do nothing and report nothing done: reading
   gives NULL (an empty transfer, which the caller treats as a failure) and
   writing gives 0. */
SET TERM ^ ;

CREATE OR ALTER FUNCTION SP_FILETOBLOB (FILENAME VARCHAR(254) CHARACTER SET SJIS_0208)
RETURNS BLOB SUB_TYPE BINARY
AS
BEGIN
  RETURN NULL;
END^

CREATE OR ALTER FUNCTION SP_BLOBTOFILE (FILENAME VARCHAR(254) CHARACTER SET SJIS_0208,
                                        CONTENT BLOB SUB_TYPE BINARY)
RETURNS INTEGER
AS
BEGIN
  RETURN 0;
END^

SET TERM ; ^

COMMIT;
